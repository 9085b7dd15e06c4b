// The size of every path buffer in the program: a path or list line of at
// most 519 characters plus its terminator. Standard C++ only, so the portable
// folder queue shares it.
#pragma once

const int PathBufferSize = 520;
