#pragma once

#include "tests/support/BadPdfCorpus.h"

#include <vector>

// One message of every kind the program and its render host send each other, written by the
// protocol's own encoders: the render host protocol fuzz target's starting corpus.
std::vector<BadPdf> renderHostMessageSeeds();
