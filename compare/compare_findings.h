// The findings of a comparison's pairs, told in path order as the reads settle them.
#pragma once

#include "compare/compare_plan.h"

// Hands the findings of the pairs from emitted on to sink, in path order, as far as the reads taken
// settle them (a pair's reads, its MOVED group), and counts them in tally; emitted moves past them.
void FindSettled(const ComparePlan& plan, size_t& emitted, const CompareSink& sink, CompareTally& tally);
