#pragma once
// Programs started in the background for the user's own tooling: never run
// through a shell, never waited for while the caller works, their standard
// output sent to our standard error so it never mixes with the console text.
#include <sys/types.h>

#include <string>
#include <vector>

namespace platform {

class ChildPrograms {
public:
    explicit ChildPrograms(std::size_t limit) : limit_(limit) {}

    // Starts `program` with `argument` and the extra environment entries
    // ("NAME=value"). False, with the reason in `failure`, when it could not
    // be started or `limit` children are still running.
    bool start(const std::string& program, const std::string& argument,
               const std::vector<std::string>& environment, std::string& failure);

    // Collects the children that have ended, without waiting; one line on
    // standard error for each that failed.
    void reap();

    std::size_t running() const { return children_.size(); }

private:
    struct Child {
        pid_t pid;
        std::string argument;
    };

    std::size_t limit_;
    std::vector<Child> children_;
};

}  // namespace platform
