// Every settings store backend of this build against the same rows
// (store-contract.json, which the browser test runs against the browser's
// store too). Each backend is used for real: a file, the registry.
#include "platform/SettingsStore.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>
#include <memory>

#ifdef _WIN32
#include "platform/windows/RegistrySettingsStore.h"

#include <windows.h>
#endif

namespace {

// One backend's storage, and the ways another program (or a fault) can
// leave it.
class Backend {
public:
    virtual ~Backend() = default;
    // A new store object on the storage, as the program's next start makes.
    virtual std::unique_ptr<platform::SettingsStore> Open() = 0;
    virtual void PutForeign(const QString &section, const QString &key, const QString &value) = 0;
    // The entry is there, in a form no store can read.
    virtual void Damage(const QString &section, const QString &key) = 0;
    virtual void RefuseWrites() = 0;
};

class IniBackend final : public Backend {
public:
    IniBackend() : path_(dir_.filePath(QStringLiteral("Tovrani.ini"))) {}
    std::unique_ptr<platform::SettingsStore> Open() override
    {
        return std::make_unique<platform::QtSettingsStore>(path_);
    }
    void PutForeign(const QString &section, const QString &key, const QString &value) override
    {
        // An earlier version wrote the file through QSettings.
        QSettings(path_, QSettings::IniFormat).setValue(section + QLatin1Char('/') + key, value);
    }
    void Damage(const QString &section, const QString &key) override
    {
        QFile file(path_);
        QVERIFY(file.open(QIODevice::Append));
        file.write('[' + section.toUtf8() + "]\n" + key.toUtf8() + "=@Rect(1 2 3 4)\n");
    }
    void RefuseWrites() override
    {
        // The store's folder is a file (root may write into any folder).
        QFile blocker(dir_.filePath(QStringLiteral("blocked")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        path_ = dir_.filePath(QStringLiteral("blocked/Tovrani.ini"));
    }

private:
    QTemporaryDir dir_;
    QString path_;
};

#ifdef _WIN32
class RegistryBackend final : public Backend {
public:
    ~RegistryBackend() override { RegDeleteTreeW(HKEY_CURRENT_USER, root_.toStdWString().c_str()); }
    std::unique_ptr<platform::SettingsStore> Open() override
    {
        return std::make_unique<platform::RegistrySettingsStore>(root_);
    }
    void PutForeign(const QString &section, const QString &key, const QString &value) override
    {
        const std::wstring text = value.toStdWString();
        Put(section, key, REG_SZ, text.c_str(), DWORD((text.size() + 1) * sizeof(wchar_t)));
    }
    void Damage(const QString &section, const QString &key) override
    {
        const DWORD number = 1234;
        Put(section, key, REG_DWORD, &number, sizeof number);
    }
    void RefuseWrites() override
    {
        // No lasting key can be made under a volatile one.
        HKEY handle = nullptr;
        QCOMPARE(RegCreateKeyExW(HKEY_CURRENT_USER, root_.toStdWString().c_str(), 0, nullptr, REG_OPTION_VOLATILE,
                                 KEY_ALL_ACCESS, nullptr, &handle, nullptr),
                 ERROR_SUCCESS);
        RegCloseKey(handle);
    }

private:
    void Put(const QString &section, const QString &key, DWORD type, const void *data, DWORD bytes)
    {
        HKEY handle = nullptr;
        const std::wstring subkey = (root_ + QLatin1Char('\\') + section).toStdWString();
        QCOMPARE(RegCreateKeyExW(HKEY_CURRENT_USER, subkey.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &handle,
                                 nullptr),
                 ERROR_SUCCESS);
        QCOMPARE(RegSetValueExW(handle, key.toStdWString().c_str(), 0, type, static_cast<const BYTE *>(data), bytes),
                 ERROR_SUCCESS);
        RegCloseKey(handle);
    }

    const QString root_ = QStringLiteral("Software\\MimoranTests\\%1").arg(QCoreApplication::applicationPid());
};
#endif

using MakeBackend = std::function<std::unique_ptr<Backend>()>;

std::optional<QString> FromJson(const QJsonValue &value, int repeat)
{
    if (value.isNull())
        return std::nullopt;
    return value.toString().repeated(repeat);
}

} // namespace

Q_DECLARE_METATYPE(MakeBackend)
Q_DECLARE_METATYPE(QJsonObject)

class tst_store_contract : public QObject {
    Q_OBJECT

private slots:
    void contract_data();
    void contract();
#ifdef _WIN32
    void registryKeepsTheOldProgramsPlace();
#endif
};

void tst_store_contract::contract_data()
{
    QFile file(QStringLiteral(":/store-contract.json"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QJsonObject contract = QJsonDocument::fromJson(file.readAll()).object();
    const QJsonArray rows = contract.value(QStringLiteral("rows")).toArray();
    QVERIFY(rows.size() > 5);

    const std::vector<std::pair<const char *, MakeBackend>> backends = {
        {"ini", [] { return std::make_unique<IniBackend>(); }},
#ifdef _WIN32
        {"registry", [] { return std::make_unique<RegistryBackend>(); }},
#endif
    };
    QTest::addColumn<MakeBackend>("makeBackend");
    QTest::addColumn<QJsonObject>("row");
    QTest::addColumn<QJsonObject>("contract");
    for (const auto &[name, make] : backends)
        for (const QJsonValue &row : rows)
            QTest::addRow("%s: %s", name, qPrintable(row[QStringLiteral("name")].toString()))
                << make << row.toObject() << contract;
}

void tst_store_contract::contract()
{
    QFETCH(MakeBackend, makeBackend);
    QFETCH(QJsonObject, row);
    QFETCH(QJsonObject, contract);
    const QString section = contract[QStringLiteral("section")].toString();
    const QString key = contract[QStringLiteral("key")].toString();
    const QString otherKey = contract[QStringLiteral("otherKey")].toString();

    const std::unique_ptr<Backend> backend = makeBackend();
    const QJsonValue before = row[QStringLiteral("before")];
    if (before == QStringLiteral("unreadable"))
        backend->Damage(section, key);
    else if (before.isString())
        backend->PutForeign(section, key, before.toString());
    if (row.contains(QStringLiteral("other")))
        backend->PutForeign(section, otherKey, row[QStringLiteral("other")].toString());
    if (row[QStringLiteral("refuse")].toBool())
        backend->RefuseWrites();
    if (QTest::currentTestFailed())
        return;

    if (row.contains(QStringLiteral("write"))) {
        const QString value = row[QStringLiteral("write")].toString().repeated(row[QStringLiteral("repeat")].toInt(1));
        QCOMPARE(backend->Open()->Write(section, key, value), row[QStringLiteral("ok")].toBool());
    }
    const std::unique_ptr<platform::SettingsStore> reader = backend->Open();
    QCOMPARE(reader->Read(section, key),
             FromJson(row[QStringLiteral("read")], row[QStringLiteral("readRepeat")].toInt(1)));
    if (row.contains(QStringLiteral("other")))
        QCOMPARE(reader->Read(section, otherKey), std::optional<QString>(row[QStringLiteral("other")].toString()));
}

#ifdef _WIN32
void tst_store_contract::registryKeepsTheOldProgramsPlace()
{
    // Where Windows programs of this kind have always kept the password.
    QCOMPARE(platform::RegistrySettingsStore().Root(), QStringLiteral("Software\\VB and VBA Program Settings\\Tovrani"));
}
#endif

QTEST_GUILESS_MAIN(tst_store_contract)
#include "tst_store_contract.moc"
