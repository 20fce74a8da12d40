#include "platform/Services.h"

#include "platform/EventPump.h"
#include "platform/MessageBox.h"
#include "platform/Process.h"
#include "platform/Random.h"
#include "platform/RecordStore.h"
#include "platform/SettingsStore.h"
#include "platform/UserStore.h"

#include <QCoreApplication>

namespace platform {

namespace {

struct Registry {
    std::unique_ptr<MessageBox> box;
    std::unique_ptr<SettingsStore> store;
    std::unique_ptr<RandomSource> random;
    std::unique_ptr<EventPump> pump;
    std::unique_ptr<RecordStore> record;
    std::function<void()> endAction;
    bool ending = false;
};

Registry &registry()
{
    static Registry r;
    return r;
}

template <typename T, typename Make>
T &getOrMake(std::unique_ptr<T> &slot, Make make)
{
    if (!slot)
        slot = make();
    return *slot;
}

template <typename T>
std::unique_ptr<T> swapIn(std::unique_ptr<T> &slot, std::unique_ptr<T> next)
{
    std::unique_ptr<T> previous = std::move(slot);
    slot = std::move(next);
    return previous;
}

} // namespace

MessageBox &messageBox()
{
    // The real box needs QtWidgets and is installed by the start-up procedure,
    // which keeps this library free of widgets.
    if (!registry().box)
        qFatal("no message box installed");
    return *registry().box;
}

SettingsStore &settingsStore()
{
    return getOrMake(registry().store, [] { return MakeUserSettingsStore(); });
}

RandomSource &random()
{
    return getOrMake(registry().random, [] { return std::make_unique<PcgRandom>(); });
}

EventPump &eventPump()
{
    return getOrMake(registry().pump, [] { return std::make_unique<QtEventPump>(); });
}

RecordStore &recordStore()
{
    return getOrMake(registry().record, [] { return MakeUserRecordStore(); });
}

std::unique_ptr<MessageBox> setMessageBox(std::unique_ptr<MessageBox> box)
{
    return swapIn(registry().box, std::move(box));
}

std::unique_ptr<SettingsStore> setSettingsStore(std::unique_ptr<SettingsStore> store)
{
    return swapIn(registry().store, std::move(store));
}

std::unique_ptr<RandomSource> setRandom(std::unique_ptr<RandomSource> random)
{
    return swapIn(registry().random, std::move(random));
}

std::unique_ptr<EventPump> setEventPump(std::unique_ptr<EventPump> pump)
{
    return swapIn(registry().pump, std::move(pump));
}

std::unique_ptr<RecordStore> setRecordStore(std::unique_ptr<RecordStore> store)
{
    return swapIn(registry().record, std::move(store));
}

void endProgram()
{
    Registry &r = registry();
    r.ending = true;
    if (r.endAction)
        r.endAction();
    else
        EndProcess();
}

bool programEnding()
{
    return registry().ending;
}

void setEndAction(std::function<void()> action)
{
    registry().endAction = std::move(action);
}

void resetProgramEnding()
{
    registry().ending = false;
}

} // namespace platform
