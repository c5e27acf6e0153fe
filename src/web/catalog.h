// The catalog the page builds itself from: the menus, the toolbar and its
// items, the busy list, the shortcuts, the commands, the largest file and
// the workbench's texts, as JSON, all from the desk layer.
#pragma once

#include <string>

namespace matcalc::web {

std::string CatalogJson();

}  // namespace matcalc::web
