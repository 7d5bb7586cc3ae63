#include "forms/model_filter.h"

#include "app/app.h"
#include "catalogue/catalogue.h"
#include "system/text.h"
#include "ui/grid.h"

namespace orvello {

bool MatchesFindKey(std::wstring_view modelName, std::wstring_view findKey) {
  return ToLower(modelName).find(ToLower(findKey)) != std::wstring::npos;
}

void FillModelRows(ui::Grid& grid, const CApp& app, const ModelRowsFill& fill) {
  grid.RemoveAllRows();
  const pugi::xml_document& catalogue = app.catalogue.doc;
  const std::wstring& manufacturer = app.profile.name;
  for (DriverRef ref = FirstDriver(manufacturer, catalogue); ref; NextDriver(manufacturer, ref, catalogue)) {
    if (fill.keep && !fill.keep(ref)) continue;
    std::wstring name = DriverName(ref);
    if (!MatchesFindKey(name, fill.findKey)) continue;
    int row = grid.AddRow();
    grid.SetCellText(row, 1, name);
    if (fill.fillRow) fill.fillRow(row, name);
    if (name == app.selected.model) grid.SelectRow(row);
  }
}

}  // namespace orvello
