#pragma once

// How the program was started: on its own (both directions offered) or by
// Horalia with two arguments, the first naming the one direction to show.

#include <string>
#include <vector>

namespace ludaro {

struct RunMode {
  int nParam = 0;                 // 2 when started with exactly two arguments
  bool showXadeToHoralia = true;  // left panel Draw3D2, button BExportar
  bool showHoraliaToXade = true;  // right panel Draw3D3, button BImportar
};

// `arguments` are the command-line arguments after the program's own name.
// The second argument only has to be there; its value means nothing.
RunMode RunModeFromArguments(const std::vector<std::wstring>& arguments);

}  // namespace ludaro
