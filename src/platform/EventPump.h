#pragma once

#include <vector>

class QEventLoop;

namespace platform {

// Lets window events flow while a handler waits for something the user does
// (the answer check waiting for the feedback dialog), without using the CPU.
class EventPump {
public:
    virtual ~EventPump() = default;
    // Handles events until Wake() is called or the program is ending.
    virtual void WaitForWake() = 0;
    // Ends the innermost WaitForWake().
    virtual void Wake() = 0;
};

// Blocks in a nested QEventLoop. QCoreApplication::exit() ends nested loops
// too, so a wait never outlives the program.
class QtEventPump final : public EventPump {
public:
    void WaitForWake() override;
    void Wake() override;
    int Depth() const { return static_cast<int>(loops_.size()); }

private:
    std::vector<QEventLoop *> loops_;
};

} // namespace platform
