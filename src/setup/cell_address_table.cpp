#include "setup/cell_address_table.h"

#include <algorithm>

void TCellAddressTable::Resize(int rows, int columns) {
  rows_ = std::max(rows, 0);
  columns_ = std::max(columns, 0);
  marks_.assign(static_cast<std::size_t>(CellCount()), false);
  addresses_ = QStringList();
  addresses_.resize(CellCount());
}

bool TCellAddressTable::Contains(int row, int column) const {
  return row >= 0 && row < rows_ && column >= 0 && column < columns_ &&
         static_cast<std::size_t>(Index(row, column)) < marks_.size();
}

QString TCellAddressTable::Address(int row, int column) const {
  return Contains(row, column) ? addresses_.value(Index(row, column)) : QString();
}

void TCellAddressTable::SetAddress(int row, int column, const QString& address) {
  if (Contains(row, column) && Index(row, column) < addresses_.size())
    addresses_[Index(row, column)] = address;
}

bool TCellAddressTable::Registered(int row, int column) const {
  return Contains(row, column) && marks_[static_cast<std::size_t>(Index(row, column))];
}

void TCellAddressTable::SetRegistered(int row, int column, bool on) {
  if (Contains(row, column)) marks_[static_cast<std::size_t>(Index(row, column))] = on;
}
