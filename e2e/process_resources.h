#pragma once
// What another process holds of the system: GDI objects, USER objects and
// kernel handles, for telling a leak from a flat line.
#include <windows.h>

#include <string>

namespace e2e {

struct ProcessResources {
    long gdiObjects = -1;
    long userObjects = -1;
    long kernelHandles = -1;
};

// GetGuiResources and GetProcessHandleCount where the system has them. Wine
// has neither (they answer 0 and "not implemented"), so there the counts come
// from the process's GDI handle table (read from its memory), its windows,
// and the system's handle list.
ProcessResources readProcessResources(DWORD processId);

// "GDI 41, USER 12, kernel 57" and where each figure came from.
std::wstring describe(const ProcessResources& resources);

}  // namespace e2e
