#pragma once

#include <QString>
#include <QStringList>
#include <vector>

// The network splicer wall's cell address table: per cell (row by row) a
// registered mark and the dotted address of the module found there. Sized
// to the wall grid; every resize starts empty. Cells outside the table are
// never touched: reads give nothing, writes are ignored.
class TCellAddressTable {
 public:
  void Resize(int rows, int columns);
  int Rows() const { return rows_; }
  int Columns() const { return columns_; }
  int CellCount() const { return rows_ * columns_; }
  bool Contains(int row, int column) const;

  QString Address(int row, int column) const;
  void SetAddress(int row, int column, const QString& address);
  bool Registered(int row, int column) const;
  void SetRegistered(int row, int column, bool on);

  // The marks row by row, for the status panel.
  std::vector<bool>& Marks() { return marks_; }
  const std::vector<bool>& Marks() const { return marks_; }

 private:
  int Index(int row, int column) const { return row * columns_ + column; }

  int rows_ = 0;
  int columns_ = 0;
  std::vector<bool> marks_;
  QStringList addresses_;
};
