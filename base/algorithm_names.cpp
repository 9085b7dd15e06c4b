#include "base/algorithm_names.h"

const char* const AlgorithmNames[DigestCRC32 + 1] = {"MD2", "MD4", "MD5", "CRC32"};
