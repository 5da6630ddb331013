// The table the data box holds at start: a header and 16 observations of 6 attributes.
#pragma once

#include <string>

const std::string& sampleTable();
