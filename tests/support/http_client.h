#pragma once
// A raw HTTP client on 127.0.0.1 for the web view tests: requests are sent
// byte for byte as given, answers read as they come.
#include <string>

namespace testing_support {

// A port nobody listens on at the moment.
int freePort();

// Sends `request` and reads until the server closes, `enough` bytes have
// come, or `seconds` pass. Empty when nothing connects.
std::string exchange(int port, const std::string& request, double seconds = 5, std::size_t enough = 0);
// The same on a connected socket, which it closes; empty for a socket < 0.
std::string exchangeOn(int socket, const std::string& request, double seconds, std::size_t enough);
// A GET of `path` from the loopback address `source` (e.g. "127.0.0.2").
std::string getFrom(const std::string& source, int port, const std::string& path);

// A connection that sent `request` and will read nothing: its socket, for
// the caller to close.
int sendAndStall(int port, const std::string& request);

// A GET of `path` (with basic authentication when `credentials`, the
// base64 of "user:password", is given), closing the connection after the answer.
std::string get(int port, const std::string& path, const std::string& credentials = "");

// The status code of an answer, 0 when it is not a well-formed status line.
int statusOf(const std::string& answer);

// The body of an answer (after the blank line ending the headers).
std::string bodyOf(const std::string& answer);

// Tries to connect for up to `seconds`: whether something listens on `port`.
bool waitForListener(int port, double seconds);

}  // namespace testing_support
