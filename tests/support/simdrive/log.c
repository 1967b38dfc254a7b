/* The drive's clock and its log: one line per event, "SECONDS<TAB>EVENT<TAB>DETAILS",
 * SECONDS on CLOCK_MONOTONIC (the clock the media service's trace uses too). Each line is
 * one write(2) on an O_APPEND file, so lines from several threads never interleave. */
#include "simdrive.h"

#include <errno.h>
#include <stdarg.h>
#include <stdio.h>
#include <time.h>
#include <unistd.h>

double sim_now(void)
{
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return (double)now.tv_sec + (double)now.tv_nsec / 1e9;
}

void sim_log(const char* format, ...)
{
    if (sim.log_fd < 0)
        return;
    char line[1024];
    int length = snprintf(line, sizeof line, "%.6f\t", sim_now());
    va_list args;
    va_start(args, format);
    length += vsnprintf(line + length, sizeof line - (size_t)length - 1, format, args);
    va_end(args);
    if (length > (int)sizeof line - 2)
        length = (int)sizeof line - 2;
    line[length++] = '\n';
    const int saved = errno;
    ssize_t ignored = write(sim.log_fd, line, (size_t)length);
    (void)ignored;
    errno = saved;
}

void sim_wait_until(double when)
{
    double left = when - sim_now();
    if (left <= 0)
        return;
    struct timespec until;
    clock_gettime(CLOCK_MONOTONIC, &until);
    long long ns = until.tv_nsec + (long long)(left * 1e9);
    until.tv_sec += (time_t)(ns / 1000000000LL);
    until.tv_nsec = (long)(ns % 1000000000LL);
    const int saved = errno;
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, NULL) == EINTR) {
    }
    errno = saved;
}

void sim_wait_unlocked(double when)
{
    pthread_mutex_unlock(&sim.lock);
    sim_wait_until(when);
    pthread_mutex_lock(&sim.lock);
}
