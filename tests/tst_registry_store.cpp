// The Windows settings store against the real (wine's or Windows') registry,
// under a throw-away key.
#include "platform/windows/RegistrySettingsStore.h"

#include <QtTest>

#include <windows.h>

class tst_registry_store : public QObject {
    Q_OBJECT

private:
    const QString root_ = QStringLiteral("Software\\MimoranTests\\%1").arg(QCoreApplication::applicationPid());

    std::wstring subkey(const QString &section) const
    {
        return (root_ + QLatin1Char('\\') + section).toStdWString();
    }

    // Writes a value the way another program would, bypassing the store.
    void rawWrite(const QString &section, const QString &name, DWORD type, const void *data, DWORD bytes)
    {
        HKEY key = nullptr;
        QCOMPARE(RegCreateKeyExW(HKEY_CURRENT_USER, subkey(section).c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                                 nullptr, &key, nullptr),
                 ERROR_SUCCESS);
        QCOMPARE(RegSetValueExW(key, name.toStdWString().c_str(), 0, type, static_cast<const BYTE *>(data), bytes),
                 ERROR_SUCCESS);
        RegCloseKey(key);
    }

private slots:
    void cleanup() { RegDeleteTreeW(HKEY_CURRENT_USER, root_.toStdWString().c_str()); }

    void theOldProgramsPlace()
    {
        QCOMPARE(platform::RegistrySettingsStore().Root(),
                 QStringLiteral("Software\\VB and VBA Program Settings\\Tovrani"));
    }

    void missingIsEmpty()
    {
        platform::RegistrySettingsStore store(root_);
        QCOMPARE(store.Read(QStringLiteral("Data"), QStringLiteral("PassWord")), std::optional<QString>(QString()));
    }

    void roundTripsExactly_data()
    {
        QTest::addColumn<QString>("value");
        QTest::newRow("ascii") << QStringLiteral("abc123");
        QTest::newRow("japanese") << QStringLiteral("ぱすわーど１２３");
        QTest::newRow("spaces kept") << QStringLiteral("　a b ");
        QTest::newRow("looks like a QSettings type") << QStringLiteral("@Rect(1 2 3 4)");
        QTest::newRow("separators") << QStringLiteral("a/b\\c;d=e");
        QTest::newRow("long") << QString(2000, QLatin1Char('x'));
        QTest::newRow("empty") << QString();
    }

    void roundTripsExactly()
    {
        QFETCH(QString, value);
        platform::RegistrySettingsStore store(root_);
        QVERIFY(store.Write(QStringLiteral("Data"), QStringLiteral("PassWord"), QStringLiteral("before")));
        QVERIFY(store.Write(QStringLiteral("Data"), QStringLiteral("PassWord"), value));
        // A fresh store, as the next start of the program would read it.
        QCOMPARE(platform::RegistrySettingsStore(root_).Read(QStringLiteral("Data"), QStringLiteral("PassWord")),
                 std::optional<QString>(value));
    }

    void readsWhatAnotherProgramWrote()
    {
        const std::wstring text = L"oldpass";
        rawWrite(QStringLiteral("Data"), QStringLiteral("PassWord"), REG_SZ, text.c_str(),
                 static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
        platform::RegistrySettingsStore store(root_);
        QCOMPARE(store.Read(QStringLiteral("Data"), QStringLiteral("PassWord")),
                 std::optional<QString>(QStringLiteral("oldpass")));
    }

    void unreadableValueIsNeitherEmptyNorReplaced()
    {
        const DWORD number = 1234;
        rawWrite(QStringLiteral("Data"), QStringLiteral("PassWord"), REG_DWORD, &number, sizeof number);
        platform::RegistrySettingsStore store(root_);
        QCOMPARE(store.Read(QStringLiteral("Data"), QStringLiteral("PassWord")), std::nullopt);
        QVERIFY(!store.Write(QStringLiteral("Data"), QStringLiteral("PassWord"), QStringLiteral("new")));

        HKEY key = nullptr;
        QCOMPARE(RegOpenKeyExW(HKEY_CURRENT_USER, subkey(QStringLiteral("Data")).c_str(), 0, KEY_QUERY_VALUE, &key),
                 ERROR_SUCCESS);
        DWORD type = 0;
        DWORD stored = 0;
        DWORD size = sizeof stored;
        QCOMPARE(RegQueryValueExW(key, L"PassWord", nullptr, &type, reinterpret_cast<BYTE *>(&stored), &size),
                 ERROR_SUCCESS);
        RegCloseKey(key);
        QCOMPARE(type, DWORD(REG_DWORD));
        QCOMPARE(stored, number);
    }
};

QTEST_GUILESS_MAIN(tst_registry_store)
#include "tst_registry_store.moc"
