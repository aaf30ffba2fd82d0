#pragma once

#include "list_reader.h"
#include "step_list.h"
#include "tool_options.h"

#include <QSocketNotifier>

#include <functional>
#include <memory>
#include <string>

namespace max2870 {

// Where the steps of a run come from, one at a time: a sweep, a list file read as a stream,
// or the standard input fed live.
class StepSource {
public:
    enum class Status {
        Step, // text holds the next step
        Wait, // nothing yet: Arrived is called when more has come
        End,  // the pass is over
        Bad,  // error holds the line that stops the run
    };
    struct Taken {
        Status status = Status::End;
        std::string text;
        std::string error;
    };

    virtual ~StepSource() = default;
    virtual Taken Take() = 0;
    // Starts another pass from the first step; false when the steps cannot be read again.
    virtual bool Restart() = 0;
    // What to call when a waiting source has more.
    void OnArrival(std::function<void()> arrived) { arrived_ = std::move(arrived); }

protected:
    std::function<void()> arrived_;
};

// The steps of the options' sweep or list. A list file is read through and checked whole first,
// so a bad line stops the run before the port opens; none then, with the one-line reason.
std::unique_ptr<StepSource> MakeStepSource(const ToolOptions& options, std::string& error);

} // namespace max2870
