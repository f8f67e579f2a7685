#include "framework/KernelHandle.h"

BOOL AfxCloseKernelHandle(HANDLE handle) { return ::CloseHandle(handle); }
