#include "base/algorithm_names.h"

const char* const AlgorithmNames[4] = {"MD2", "MD4", "MD5", "CRC32"};
