#include "framework/TaskMemory.h"

#include <objbase.h>

BOOL AfxFreeTaskMemory(void* memory) {
    CoTaskMemFree(memory);
    return TRUE;
}
