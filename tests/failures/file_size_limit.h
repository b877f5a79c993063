// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Runs a piece of work in a child process whose files may not grow past a limit, which is how a
// full disk looks to a writer; the parent then inspects what the child left on disk.

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <functional>
#include <optional>

namespace failures {

// The work's result, or nothing when the child did not exit normally (it crashed or was killed).
inline std::optional<bool> RunWithFileSizeLimit(rlim_t limit, const std::function<bool()>& work) {
    const pid_t child = ::fork();
    if (child < 0) {
        return std::nullopt;
    }
    if (child == 0) {
        // Without this the first write past the limit kills the child instead of failing.
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit cap{limit, limit};
        ::setrlimit(RLIMIT_FSIZE, &cap);
        ::_exit(work() ? 0 : 1);
    }
    int status = 0;
    if (::waitpid(child, &status, 0) != child || !WIFEXITED(status)) {
        return std::nullopt;
    }
    return WEXITSTATUS(status) == 0;
}

}  // namespace failures
