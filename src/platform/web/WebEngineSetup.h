#pragma once
// What the web engine needs before the QApplication exists; called first by every main that
// may show a web page. Header-only, so that a main can call it without loading the engine.
//
// - the OpenGL contexts are shared (the engine's compositor asks for it);
// - Chromium refuses to start its sandbox as root: for root the sandbox is switched off;
// - no background networking (no update, metrics or safe-browsing requests) and software
//   rendering, so that the engine needs neither a network nor a GPU of its own.
#include <QByteArray>
#include <QCoreApplication>

#include <unistd.h>

namespace platform::web {

inline void prepareWebEngine()
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    if (geteuid() == 0)
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    for (const char *flag : {"--disable-background-networking", "--disable-component-update",
                             "--disable-gpu", "--disable-gpu-compositing"}) {
        if (!flags.contains(flag)) {
            if (!flags.isEmpty())
                flags += ' ';
            flags += flag;
        }
    }
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags);
}

} // namespace platform::web
