#pragma once
// A user name and password kept in a file: the web view's basic
// authentication, the MQTT broker's login.
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
// The reason names the file as given with `option`.
std::optional<Credentials> readCredentialsFile(const std::string& path, std::string& failure,
                                               const std::string& option = "--listen-auth");

}  // namespace platform::http
