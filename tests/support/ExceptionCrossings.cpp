#include "support/ExceptionCrossings.h"

#ifdef _WIN32

namespace tabel {

QStringList ExceptionCrossings::take()
{
    return {};
}

int ExceptionCrossings::guardedThrows()
{
    return 0;
}

bool ExceptionCrossings::watching()
{
    return false;
}

} // namespace tabel

#else

#include <QMutex>
#include <QMutexLocker>

#include <cxxabi.h>
#include <dlfcn.h>
#include <execinfo.h>

#include <cstdlib>
#include <cstring>
#include <exception>
#include <typeinfo>

namespace tabel {

namespace {

QMutex mutex;
QStringList crossings;
int guarded = 0;
thread_local bool inspecting = false;

QString demangled(const char* name)
{
    if (!name)
        return {};
    int status = 0;
    char* plain = abi::__cxa_demangle(name, nullptr, nullptr, &status);
    const QString text = QString::fromUtf8(status == 0 && plain ? plain : name);
    std::free(plain);
    return text;
}

bool inQtLibrary(const Dl_info& info)
{
    if (!info.dli_fname)
        return false;
    const char* slash = std::strrchr(info.dli_fname, '/');
    return std::strncmp(slash ? slash + 1 : info.dli_fname, "libQt6", 6) == 0;
}

bool isGuard(const Dl_info& info)
{
    return info.dli_sname && demangled(info.dli_sname).startsWith(QLatin1String("tabel::ActionGuard::run("));
}

void inspect(void* object, std::type_info* type)
{
    // Only what a guard would catch: the program's own failures are all std::exceptions.
    void* adjusted = object;
    if (!typeid(std::exception).__do_catch(type, &adjusted, 1))
        return;
    void* frames[256];
    const int count = backtrace(frames, 256);
    QString qtFrame;
    for (int index = 0; index < count; ++index) {
        Dl_info info{};
        if (!dladdr(frames[index], &info))
            continue;
        if (isGuard(info)) {
            QMutexLocker lock(&mutex);
            ++guarded;
            if (!qtFrame.isEmpty())
                crossings.append(QStringLiteral("%1 \"%2\" crosses %3")
                                     .arg(demangled(type->name()),
                                          QString::fromUtf8(static_cast<std::exception*>(adjusted)->what()),
                                          qtFrame));
            return;
        }
        if (qtFrame.isEmpty() && inQtLibrary(info))
            qtFrame = info.dli_sname ? demangled(info.dli_sname) : QString::fromUtf8(info.dli_fname);
    }
}

} // namespace

QStringList ExceptionCrossings::take()
{
    QMutexLocker lock(&mutex);
    return std::exchange(crossings, {});
}

int ExceptionCrossings::guardedThrows()
{
    QMutexLocker lock(&mutex);
    return guarded;
}

bool ExceptionCrossings::watching()
{
    return true;
}

} // namespace tabel

// Every throw of the test program passes here first: the program's own code is linked into the
// test executable, so its throws bind to this definition before the C++ library's.
namespace __cxxabiv1 {
extern "C" void __cxa_throw(void* object, std::type_info* type, void (*destroy)(void*))
{
    using Throw = void (*)(void*, std::type_info*, void (*)(void*));
    static const auto libraryThrow = reinterpret_cast<Throw>(dlsym(RTLD_NEXT, "__cxa_throw"));
    if (!tabel::inspecting) {
        tabel::inspecting = true;
        tabel::inspect(object, type);
        tabel::inspecting = false;
    }
    libraryThrow(object, type, destroy);
    std::abort(); // the library's throw does not return
}
} // namespace __cxxabiv1

#endif
