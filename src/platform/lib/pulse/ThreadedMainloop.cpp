#include "platform/lib/pulse/ThreadedMainloop.h"

#include "platform/lib/pulse/Error.h"

#include <pulse/error.h>
#include <pulse/timeval.h>

#include <sys/time.h>

namespace vorlo::platform::pulse {

ThreadedMainloop::ThreadedMainloop() : loop_(pa_threaded_mainloop_new())
{
    if (!loop_)
        throw Error(PA_ERR_INTERNAL, "cannot create the PulseAudio event loop");
    pa_threaded_mainloop_set_name(loop_, "vorlo-pulse");
    if (pa_threaded_mainloop_start(loop_) < 0) {
        pa_threaded_mainloop_free(loop_);
        throw Error(PA_ERR_INTERNAL, "cannot start the PulseAudio event loop");
    }
}

ThreadedMainloop::~ThreadedMainloop()
{
    pa_threaded_mainloop_stop(loop_);
    pa_threaded_mainloop_free(loop_);
}

namespace {

struct Deadline {
    ThreadedMainloop* loop;
    bool passed = false;
};

void OnDeadline(pa_mainloop_api*, pa_time_event*, const struct timeval*, void* userdata)
{
    auto* deadline = static_cast<Deadline*>(userdata);
    deadline->passed = true;
    deadline->loop->Signal();
}

} // namespace

bool ThreadedMainloop::WaitFor(const std::function<bool()>& done, std::chrono::milliseconds timeout)
{
    if (done())
        return true;
    Deadline deadline{this};
    timeval when{};
    gettimeofday(&when, nullptr);
    pa_timeval_add(&when, static_cast<pa_usec_t>(timeout.count()) * PA_USEC_PER_MSEC);
    pa_time_event* event = Api()->time_new(Api(), &when, OnDeadline, &deadline);
    while (!done() && !deadline.passed)
        Wait();
    Api()->time_free(event);
    return done();
}

} // namespace vorlo::platform::pulse
