#include "support/EndlessHttpServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace testsupport {

EndlessHttpServer::EndlessHttpServer(QByteArray beginning, QByteArray filler)
    : beginning_(std::move(beginning)), filler_(std::move(filler))
{
    listener_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    if (listener_ < 0 || bind(listener_, reinterpret_cast<sockaddr *>(&a), sizeof a) != 0 || listen(listener_, 8) != 0
        || getsockname(listener_, reinterpret_cast<sockaddr *>(&a), &len) != 0) {
        if (listener_ >= 0)
            close(listener_);
        listener_ = -1;
        return;
    }
    port_ = ntohs(a.sin_port);
    thread_ = std::thread([this] { run(); });
}

EndlessHttpServer::~EndlessHttpServer()
{
    stop_ = true;
    if (thread_.joinable())
        thread_.join();
    if (listener_ >= 0)
        close(listener_);
}

QString EndlessHttpServer::url(const QString &path) const
{
    return QStringLiteral("http://127.0.0.1:%1%2").arg(port_).arg(path);
}

void EndlessHttpServer::run()
{
    while (!stop_) {
        pollfd p{listener_, POLLIN, 0};
        if (poll(&p, 1, 20) <= 0)
            continue;
        const int c = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (c < 0)
            continue;
        // The request itself does not matter; what the client sends is read and dropped.
        char request[4096];
        pollfd in{c, POLLIN, 0};
        if (poll(&in, 1, 2000) > 0)
            (void)recv(c, request, sizeof request, MSG_DONTWAIT);
        bool ok = send(c, beginning_.constData(), size_t(beginning_.size()), MSG_NOSIGNAL) == beginning_.size();
        if (ok)
            sent_ += beginning_.size();
        while (ok && !stop_ && !filler_.isEmpty()) {
            pollfd out{c, POLLOUT, 0};
            if (poll(&out, 1, 20) <= 0)
                continue;
            if (out.revents & (POLLERR | POLLHUP))
                break;
            const ssize_t n = send(c, filler_.constData(), size_t(filler_.size()), MSG_NOSIGNAL | MSG_DONTWAIT);
            if (n < 0 && (errno == EAGAIN || errno == EINTR))
                continue;
            ok = n > 0;
            if (ok)
                sent_ += n;
        }
        close(c);
    }
}

} // namespace testsupport
