// The main of every test executable: GoogleTest, under a watchdog. A test that hangs
// would otherwise sit until ctest gives up on it, and under Wine the processes it
// started would outlive that. TQ2ZUL_TEST_SECONDS (set per area by CMake) bounds the
// whole run; every process started from here belongs to a job that ends with ours.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <thread>

int main(int argc, char** argv)
{
    HANDLE job = CreateJobObjectW(nullptr, nullptr);
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (job && SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof(limits)))
        AssignProcessToJobObject(job, GetCurrentProcess());

    if (const char* limit = std::getenv("TQ2ZUL_TEST_SECONDS"); limit && std::atoi(limit) > 0) {
        const int seconds = std::atoi(limit);
        std::thread([seconds] {
            Sleep(static_cast<DWORD>(seconds) * 1000);
            std::fprintf(stderr, "\nwatchdog: no end after %d s; the test and what it started are stopped\n", seconds);
            std::fflush(stderr);
            // Our end closes the job, which ends what we started (TerminateJobObject
            // would too, but under Wine it loses our exit code).
            TerminateProcess(GetCurrentProcess(), 3);
        }).detach();
    }
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
