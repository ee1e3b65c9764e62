#pragma once
// The user name and password of the web view's basic authentication.
#include <optional>
#include <string>

namespace platform::http {

struct Credentials {
    std::string user;
    std::string password;
};

// Reads FILE's one `user:password` line. Refused (empty, with the reason)
// unless FILE is a regular file of the program's user that no one else may
// read or write, and its line has a user without a colon and a password.
std::optional<Credentials> readCredentialsFile(const std::string& path, std::string& failure);

}  // namespace platform::http
