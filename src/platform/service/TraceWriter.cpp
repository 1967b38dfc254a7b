#include "platform/service/TraceWriter.h"

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <memory>

namespace vorlo::platform {
namespace {

constexpr auto kFlushInterval = std::chrono::milliseconds(100);

// Tabs and line ends inside a command or reply would break the one-line-per-command
// format, so they are written as blanks.
void AppendField(std::string& out, std::string_view text)
{
    for (char c : text)
        out.push_back(c == '\t' || c == '\n' || c == '\r' ? ' ' : c);
}

} // namespace

TraceWriter::TraceWriter(const std::string& path) : file_(std::fopen(path.c_str(), "a"))
{
    if (file_)
        writer_ = std::thread([this] { Run(); });
}

TraceWriter::~TraceWriter()
{
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    if (writer_.joinable())
        writer_.join();
    if (file_)
        std::fclose(file_);
}

std::unique_ptr<TraceWriter> TraceWriter::FromEnvironment()
{
    const char* path = std::getenv("VORLO_MCI_TRACE");
    if (!path || !*path)
        return nullptr;
    return std::make_unique<TraceWriter>(path);
}

void TraceWriter::Record(std::string_view command, MciError error, std::string_view reply)
{
    if (!file_)
        return;
    timespec now {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    char stamp[48];
    const int stampLength = std::snprintf(stamp, sizeof stamp, "%lld.%06ld\t", static_cast<long long>(now.tv_sec),
                                          now.tv_nsec / 1000);
    char number[16];
    const int numberLength = std::snprintf(number, sizeof number, "\t%u\t", error);

    std::lock_guard lock(mutex_);
    pending_.append(stamp, static_cast<std::size_t>(stampLength));
    AppendField(pending_, command);
    pending_.append(number, static_cast<std::size_t>(numberLength));
    AppendField(pending_, reply);
    pending_.push_back('\n');
}

void TraceWriter::Drain(std::unique_lock<std::mutex>& lock)
{
    writing_.clear();
    writing_.swap(pending_);
    lock.unlock();
    if (!writing_.empty()) {
        std::fwrite(writing_.data(), 1, writing_.size(), file_);
        std::fflush(file_);
    }
    lock.lock();
}

void TraceWriter::Run()
{
    std::unique_lock lock(mutex_);
    while (!stopping_) {
        wake_.wait_for(lock, kFlushInterval, [this] { return stopping_; });
        Drain(lock);
    }
    Drain(lock);
}

} // namespace vorlo::platform
