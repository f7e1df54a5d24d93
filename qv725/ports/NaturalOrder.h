// Orders device names as people read them: "ttyUSB2" before "ttyUSB10".
#pragma once

#include <string>
#include <vector>

void SortNaturally(std::vector<std::string>& names);
