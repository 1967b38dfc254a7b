#include "platform/service/TraceWriter.h"

#include <charconv>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <memory>

namespace vorlo::platform {
namespace {

constexpr auto kFlushInterval = std::chrono::milliseconds(100);
constexpr std::size_t kInitialBuffer = 64 * 1024;

// Tabs and line ends inside a command or reply would break the one-line-per-command
// format, so they are written as blanks.
void AppendField(std::string& out, std::string_view text)
{
    if (text.find_first_of("\t\n\r") == std::string_view::npos) {
        out.append(text);
        return;
    }
    for (char c : text)
        out.push_back(c == '\t' || c == '\n' || c == '\r' ? ' ' : c);
}

} // namespace

TraceWriter::TraceWriter(const std::string& path) : file_(std::fopen(path.c_str(), "a"))
{
    if (file_) {
        pending_.reserve(kInitialBuffer);
        writing_.reserve(kInitialBuffer);
        writer_ = std::thread([this] { Run(); });
    }
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
    // "seconds.microseconds", formatted by hand: this runs inside every status query.
    char head[40];
    char* p = std::to_chars(head, head + 20, static_cast<long long>(now.tv_sec)).ptr;
    *p++ = '.';
    long micros = now.tv_nsec / 1000;
    for (int digit = 5; digit >= 0; --digit, micros /= 10)
        p[digit] = static_cast<char>('0' + micros % 10);
    p += 6;
    *p++ = '\t';
    char number[16];
    number[0] = '\t';
    char* q = std::to_chars(number + 1, number + 12, error).ptr;
    *q++ = '\t';

    bool full = false;
    {
        std::lock_guard lock(mutex_);
        pending_.append(head, p);
        AppendField(pending_, command);
        pending_.append(number, q);
        AppendField(pending_, reply);
        pending_.push_back('\n');
        full = pending_.size() >= kInitialBuffer / 2;
    }
    // A burst of commands is written out early, so that the buffer stays small.
    if (full)
        wake_.notify_one();
}

void TraceWriter::Flush()
{
    if (!file_)
        return;
    std::lock_guard lock(mutex_);
    std::fwrite(pending_.data(), 1, pending_.size(), file_);
    std::fflush(file_);
    pending_.clear();
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
        wake_.wait_for(lock, kFlushInterval, [this] { return stopping_ || pending_.size() >= kInitialBuffer / 2; });
        Drain(lock);
    }
    Drain(lock);
}

} // namespace vorlo::platform
