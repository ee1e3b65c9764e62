#include "platform/http/http_server.h"

#include <microhttpd.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>

#include "platform/http/connection_deadlines.h"

namespace platform::http {

struct Server::State {
    State(ServerSettings chosen, Routes answer)
        : settings(std::move(chosen)),
          routes(std::move(answer)),
          deadlines(std::chrono::seconds(settings.requestSeconds)) {}

    ServerSettings settings;
    Routes routes;
    ConnectionDeadlines deadlines;
    MHD_Daemon* daemon = nullptr;
};

namespace {

constexpr const char* realm = "tavomotion";
constexpr std::size_t requestMemory = 16 * 1024;
constexpr std::size_t streamBlock = 64 * 1024;

// Where an endless body has got: the part being sent and how much of it is.
struct StreamCursor {
    NextPart next;
    std::string part;
    std::size_t sent = 0;
};

ssize_t readStream(void* cursorPointer, std::uint64_t, char* buffer, std::size_t room) {
    auto& cursor = *static_cast<StreamCursor*>(cursorPointer);
    if (cursor.sent == cursor.part.size()) {
        cursor.part.clear();
        cursor.sent = 0;
        if (!cursor.next(cursor.part) || cursor.part.empty()) return MHD_CONTENT_READER_END_OF_STREAM;
    }
    const std::size_t count = std::min(room, cursor.part.size() - cursor.sent);
    std::memcpy(buffer, cursor.part.data() + cursor.sent, count);
    cursor.sent += count;
    return static_cast<ssize_t>(count);
}

void freeStream(void* cursorPointer) { delete static_cast<StreamCursor*>(cursorPointer); }

MHD_Response* responseOf(Reply& reply) {
    if (reply.stream) {
        auto* cursor = new StreamCursor{std::move(reply.stream), {}, 0};
        return MHD_create_response_from_callback(MHD_SIZE_UNKNOWN, streamBlock, readStream, cursor,
                                                 freeStream);
    }
    if (reply.fileDescriptor >= 0) return MHD_create_response_from_fd64(reply.fileSize, reply.fileDescriptor);
    return MHD_create_response_from_buffer(reply.body.size(), reply.body.data(), MHD_RESPMEM_MUST_COPY);
}

// Both sides compared in full, so the time taken tells nothing of where they differ.
bool sameText(const char* given, const std::string& expected) {
    const std::size_t length = given == nullptr ? 0 : std::strlen(given);
    unsigned char difference = length == expected.size() ? 0 : 1;
    for (std::size_t i = 0; i < length; ++i)
        difference |= static_cast<unsigned char>(given[i] ^ expected[i % (expected.size() + 1)]);
    return difference == 0;
}

bool authorised(MHD_Connection* connection, const Credentials& credentials) {
    char* password = nullptr;
    char* user = MHD_basic_auth_get_username_password(connection, &password);
    const bool userMatches = sameText(user, credentials.user);
    const bool passwordMatches = sameText(password, credentials.password);
    MHD_free(user);
    MHD_free(password);
    return user != nullptr && password != nullptr && userMatches && passwordMatches;
}

MHD_Result queue(MHD_Connection* connection, Reply reply, bool askForCredentials) {
    MHD_Response* response = responseOf(reply);
    if (response == nullptr) return MHD_NO;
    MHD_add_response_header(response, MHD_HTTP_HEADER_CONTENT_TYPE, reply.contentType.c_str());
    MHD_add_response_header(response, "X-Content-Type-Options", "nosniff");
    MHD_add_response_header(response, MHD_HTTP_HEADER_CACHE_CONTROL, "no-store");
    for (const auto& [name, value] : reply.headers)
        MHD_add_response_header(response, name.c_str(), value.c_str());
    const MHD_Result queued =
        askForCredentials ? MHD_queue_basic_auth_fail_response(connection, realm, response)
                          : MHD_queue_response(connection, static_cast<unsigned>(reply.status), response);
    MHD_destroy_response(response);
    return queued;
}

MHD_Result answer(void* statePointer, MHD_Connection* connection, const char* url, const char* method,
                  const char*, const char*, std::size_t* uploadSize, void**) {
    auto& state = *static_cast<Server::State*>(statePointer);
    // A body has no place in these requests; it is read and dropped.
    if (*uploadSize != 0) {
        *uploadSize = 0;
        return MHD_YES;
    }
    const Request request{method, url};
    if (request.method != "GET" && request.method != "HEAD") {
        Reply refused = textReply(405, "only GET and HEAD\n");
        refused.headers.emplace_back("Allow", "GET, HEAD");
        return queue(connection, std::move(refused), false);
    }
    if (state.settings.credentials && !authorised(connection, *state.settings.credentials))
        return queue(connection, textReply(401, "credentials needed\n"), true);
    Reply reply = state.routes(request);
    if (reply.stream) state.deadlines.exempt(connection);
    return queue(connection, std::move(reply), false);
}

void requestEnded(void* statePointer, MHD_Connection* connection, void**, MHD_RequestTerminationCode) {
    static_cast<Server::State*>(statePointer)->deadlines.answered(connection);
}

// Whether the first bytes can begin a request: perhaps blank lines, then a
// method in capitals (and '-') up to a blank. A TLS handshake, another
// protocol's greeting or a line of text cannot.
bool beginsRequest(const char* bytes, std::size_t count) {
    std::size_t at = 0;
    while (at < count && (bytes[at] == '\r' || bytes[at] == '\n')) ++at;
    const std::size_t methodStart = at;
    while (at < count && ((bytes[at] >= 'A' && bytes[at] <= 'Z') || bytes[at] == '-')) ++at;
    if (at == count) return true;
    return at > methodStart && bytes[at] == ' ';
}

// The listener hands over a connection only once its first bytes are in
// (TCP_DEFER_ACCEPT), and this runs before the connection's thread reads
// them: what can be no HTTP request is shut at once rather than left to
// wait for the idle limit.
void refuseWhatIsNoRequest(int socket) {
    char first[32];
    const ssize_t count = ::recv(socket, first, sizeof first, MSG_PEEK | MSG_DONTWAIT);
    if (count > 0 && !beginsRequest(first, static_cast<std::size_t>(count))) ::shutdown(socket, SHUT_RDWR);
}

void connectionChanged(void* statePointer, MHD_Connection* connection, void**,
                       MHD_ConnectionNotificationCode change) {
    auto& deadlines = static_cast<Server::State*>(statePointer)->deadlines;
    if (change == MHD_CONNECTION_NOTIFY_CLOSED) {
        deadlines.closed(connection);
        return;
    }
    const MHD_ConnectionInfo* info = MHD_get_connection_info(connection, MHD_CONNECTION_INFO_CONNECTION_FD);
    if (info == nullptr) return;
    refuseWhatIsNoRequest(info->connect_fd);
    deadlines.opened(connection, info->connect_fd);
}

// Paths reach the routes exactly as sent: an escaped name never matches one.
std::size_t keepEscapes(void*, MHD_Connection*, char* text) { return std::strlen(text); }

}  // namespace

Reply textReply(int status, const std::string& text) {
    Reply reply;
    reply.status = status;
    reply.body = text;
    return reply;
}

std::unique_ptr<Server> Server::start(ServerSettings settings, Routes routes, std::string& failure) {
    const int listener = settings.listener;
    // A client that connects and sends nothing waits in the kernel, not in a slot.
    const int deferSeconds = static_cast<int>(settings.idleSeconds);
    ::setsockopt(listener, IPPROTO_TCP, TCP_DEFER_ACCEPT, &deferSeconds, sizeof deferSeconds);
    auto state = std::make_unique<State>(std::move(settings), std::move(routes));
    State* cls = state.get();
    state->daemon = MHD_start_daemon(
        MHD_USE_THREAD_PER_CONNECTION | MHD_USE_POLL_INTERNAL_THREAD, 0, nullptr, nullptr, answer, cls,
        MHD_OPTION_LISTEN_SOCKET, listener, MHD_OPTION_CONNECTION_LIMIT, cls->settings.connectionLimit,
        MHD_OPTION_PER_IP_CONNECTION_LIMIT, cls->settings.connectionsPerAddress,
        MHD_OPTION_CONNECTION_TIMEOUT, cls->settings.idleSeconds, MHD_OPTION_CONNECTION_MEMORY_LIMIT,
        requestMemory, MHD_OPTION_UNESCAPE_CALLBACK, keepEscapes, nullptr, MHD_OPTION_NOTIFY_COMPLETED,
        requestEnded, cls, MHD_OPTION_NOTIFY_CONNECTION, connectionChanged, cls, MHD_OPTION_END);
    if (state->daemon == nullptr) {
        failure = "the web server did not start";
        ::close(listener);
        return nullptr;
    }
    return std::unique_ptr<Server>(new Server(std::move(state)));
}

Server::Server(std::unique_ptr<State> state) : state_(std::move(state)) {}

Server::~Server() { MHD_stop_daemon(state_->daemon); }

}  // namespace platform::http
