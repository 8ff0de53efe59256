// Runs kelbo-compile (or any program) as a child process, so tests see exactly what a build
// script sees: the exit status, stdout and stderr, and what is left on disk.
#pragma once

#include <chrono>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace kelbo::test {

struct ProcessResult {
    bool exited = false;
    int status = -1;       // exit status when `exited`
    int signal = 0;        // terminating signal otherwise
    bool timedOut = false; // killed by us after the time limit
    std::string out;
    std::string err;
};

class ChildProcess {
public:
    // `prepare` runs in the child just before exec (limits, signal dispositions).
    ChildProcess(const std::vector<std::string>& argv, const std::string& cwd = {},
                 const std::function<void()>& prepare = {}) {
        char outName[] = "/tmp/kelbo-child-out-XXXXXX";
        char errName[] = "/tmp/kelbo-child-err-XXXXXX";
        int outFd = ::mkstemp(outName);
        int errFd = ::mkstemp(errName);
        outPath_ = outName;
        errPath_ = errName;
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(outFd, 1);
            ::dup2(errFd, 2);
            int devNull = ::open("/dev/null", O_RDONLY);
            ::dup2(devNull, 0);
            if (!cwd.empty() && ::chdir(cwd.c_str()) != 0)
                ::_exit(126);
            if (prepare)
                prepare();
            std::vector<char*> args;
            for (const std::string& a : argv)
                args.push_back(const_cast<char*>(a.c_str()));
            args.push_back(nullptr);
            ::execv(args[0], args.data());
            ::_exit(127);
        }
        ::close(outFd);
        ::close(errFd);
    }
    ~ChildProcess() {
        if (!reaped_) {
            ::kill(pid_, SIGKILL);
            wait(std::chrono::seconds(10));
        }
        std::remove(outPath_.c_str());
        std::remove(errPath_.c_str());
    }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    pid_t pid() const { return pid_; }
    bool running() {
        if (reaped_)
            return false;
        int st = 0;
        if (::waitpid(pid_, &st, WNOHANG) == pid_) {
            record(st);
            return false;
        }
        return true;
    }
    void kill(int sig) { ::kill(pid_, sig); }

    // Waits for the end; past `limit` the child is killed and the result says so.
    ProcessResult wait(std::chrono::milliseconds limit = std::chrono::minutes(2)) {
        auto deadline = std::chrono::steady_clock::now() + limit;
        while (running()) {
            if (std::chrono::steady_clock::now() > deadline) {
                result_.timedOut = true;
                ::kill(pid_, SIGKILL);
                int st = 0;
                ::waitpid(pid_, &st, 0);
                record(st);
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        result_.out = slurp(outPath_);
        result_.err = slurp(errPath_);
        return result_;
    }

private:
    void record(int st) {
        reaped_ = true;
        result_.exited = WIFEXITED(st);
        result_.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
        result_.signal = WIFSIGNALED(st) ? WTERMSIG(st) : 0;
    }
    static std::string slurp(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }

    pid_t pid_ = -1;
    bool reaped_ = false;
    std::string outPath_;
    std::string errPath_;
    ProcessResult result_;
};

inline ProcessResult runProcess(const std::vector<std::string>& argv, const std::string& cwd = {},
                                std::chrono::milliseconds limit = std::chrono::minutes(2),
                                const std::function<void()>& prepare = {}) {
    ChildProcess child(argv, cwd, prepare);
    return child.wait(limit);
}

} // namespace kelbo::test
