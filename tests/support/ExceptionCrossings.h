#pragma once

#include <QStringList>

namespace tabel {

// Watches every std::exception the test process throws, as a debugger's `catch throw` would,
// and keeps those that would unwind through a frame of Qt's libraries before they reach the
// action guard below them. Qt calls such an unwinding undefined behaviour even where it happens
// to work, so a test that passes cannot show it; only the stack at the throw can. A throw with
// no guard below it at all is left to the other nets: Qt Test reports an exception that reaches
// it, and the application object reports one that reaches its event dispatch.
//
// Needs the test program's own functions in its dynamic symbol table (ENABLE_EXPORTS), where
// the guard's frame is recognised by name.
namespace ExceptionCrossings {

// One line per crossing since the last call: the exception's type, its text and the Qt frame.
QStringList take();

// How many throws have been seen with a guard below them, crossing or not.
int guardedThrows();

// Whether throws are watched at all. The watch reads the stack by symbol names, which only the
// ELF builds have; on Windows it sees nothing and says so here.
bool watching();

} // namespace ExceptionCrossings

} // namespace tabel
