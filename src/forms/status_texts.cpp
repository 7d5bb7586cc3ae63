#include "forms/status_texts.h"

#include "lang/language.h"
#include "lang/messages.h"

namespace orvello {

namespace {
constexpr ui::Color kBlue{0xFF0000FF};
constexpr ui::Color kRed{0xFFFF0000};
}  // namespace

void SetInstalledCell(ui::Grid& grid, int row, int column, bool installed) {
  grid.SetCellText(row, column, Translate(installed ? msg::kStatusInstalled : msg::kStatusNotInstalled));
  grid.SetCellTextColor(row, column, installed ? kBlue : kRed);
}

void SetConnectedCell(ui::Grid& grid, int row, int column) {
  grid.SetCellText(row, column, Translate(msg::kStatusConnected));
  grid.SetCellTextColor(row, column, kBlue);
}

}  // namespace orvello
