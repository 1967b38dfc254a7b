// vorlo-mci: the media service on the command line, for scripts and diagnosis.
//
// Reads one command string per line from standard input and prints, for each, one line
// "ERROR<TAB>REPLY" as soon as the command has run. At the end of input it closes every
// alias it opened. When an open fails and the service knows why, the reason goes to
// standard error.
#include "platform/Mci.h"
#include "platform/service/CommandParser.h"
#include "platform/service/MciService.h"

#include <cstdio>
#include <iostream>
#include <string>

namespace {

// The player's reply area is 128 bytes; replies are read through the same size here.
constexpr std::uint32_t kReplyCapacity = 128;

bool IsOpen(const std::string& line)
{
    vorlo::platform::CommandHead head;
    return vorlo::platform::ParseHead(line, head) == 0 && head.isOpen;
}

} // namespace

int main()
{
    using namespace vorlo::platform;
    std::ios::sync_with_stdio(false);
    std::string line;
    char reply[kReplyCapacity];
    while (std::getline(std::cin, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const MciError error = mciSendString(line.c_str(), reply, kReplyCapacity, 0);
        std::printf("%u\t%s\n", error, reply);
        std::fflush(stdout);
        if (error && IsOpen(line)) {
            const std::string why = MciService::Instance().TakeFailureDetail();
            if (!why.empty())
                std::fprintf(stderr, "vorlo-mci: %s\n", why.c_str());
        }
    }
    for (const std::string& alias : MciService::Instance().Aliases())
        mciSendString(("close " + alias).c_str(), nullptr, 0, 0);
    return 0;
}
