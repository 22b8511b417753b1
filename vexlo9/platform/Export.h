#pragma once

// What a shared vexlo9 exports: the library is built with hidden visibility, and only the declarations marked
// here (the public classes, and the few functions their inline code calls) are part of its binary interface.
#define VEXLO9_API __attribute__((visibility("default")))
