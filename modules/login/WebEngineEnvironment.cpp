#include "WebEngineEnvironment.h"

#include <QByteArray>
#include <QOpenGLContext>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace {
void setUnlessSet(const char* variable, const QByteArray& value) {
    if (!qEnvironmentVariableIsSet(variable))
        qputenv(variable, value);
}
} // namespace

void WebEngineEnvironment::prepare() {
#ifdef Q_OS_UNIX
    if (::geteuid() == 0)
        setUnlessSet("QTWEBENGINE_DISABLE_SANDBOX", "1");
#endif
    // The application shares one GL context with the web engine; when even
    // that one could not be made, there is no usable OpenGL.
    const QOpenGLContext* shared = QOpenGLContext::globalShareContext();
    if (!shared || !shared->isValid())
        setUnlessSet("QT_QUICK_BACKEND", "software");
}
