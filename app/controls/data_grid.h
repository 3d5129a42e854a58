#pragma once

// A data grid over a report-view list view: shows the rows of a table handle
// in columns, edits cells in place and writes through the handle. The grid's
// current row is the table's current row.
//
// A screen creates the grid, attaches an open table, and hooks in where it
// must: a check of a typed value before it is stored, a cell colour, focus
// events (a screen may put the table's row into edit when the grid gets the
// focus, and store it when the grid loses it). After changing the table
// behind the grid's back, a screen calls Refresh.

#include <windows.h>
#include <commctrl.h>

#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/controls/grid_model.h"
#include "app/controls/grid_rows.h"
#include "common/dbf/table.h"

namespace ludaro::controls {

// How a column's contents fit it, for the tests' layout report.
struct ColumnFit {
  int width;          // the column's width in pixels
  int widestCell;     // the widest cell text that fits the display width, with its margins
  bool titleFits;     // the title shows whole in its lines
};

struct CellEdit {
  std::size_t row;
  std::size_t column;
  const std::string& field;
  const std::u16string& text;  // what the user typed
};

class DataGrid {
 public:
  // The colour of a cell, or none for the grid's own row colours.
  using CellColourHook = std::function<std::optional<Colour>(const GridRows& rows, std::size_t row, std::size_t column)>;
  // The message that refuses a typed value, or none to store it.
  using CellCheck = std::function<std::optional<std::u16string>(const CellEdit& edit)>;
  using ErrorReport = std::function<void(HWND owner, const std::exception& error)>;
  using Event = std::function<void()>;
  // For a screen whose table changes only through its own rules: stores a
  // typed value the screen's way instead of through the table handle. True
  // when stored; false when refused, after the screen told the user why (the
  // cell editor then stays open).
  using CellStore = std::function<bool(const CellEdit& edit)>;
  // Moves the table to a grid row the screen's way (for instance storing the
  // row left through the screen's own checks).
  using RowMove = std::function<void(std::size_t row)>;

  // `font`: the cells' font; null takes the parent's.
  DataGrid(HWND parent, int id, const RECT& bounds, GridModel model, HFONT font = nullptr);
  ~DataGrid();
  DataGrid(const DataGrid&) = delete;
  DataGrid& operator=(const DataGrid&) = delete;

  // The grid whose window `frame` is, or null.
  static DataGrid* FromWindow(HWND frame);

  HWND window() const { return frame_; }
  HWND list() const { return list_; }
  const GridModel& model() const { return model_; }

  // Shows an open table (null: nothing). The table must outlive the grid or
  // be detached first.
  void Attach(dbf::Table* table);
  dbf::Table* table() const { return table_; }
  // Reads the table again and follows its current row.
  void Refresh();

  void SetCellColourHook(CellColourHook hook) { colourHook_ = std::move(hook); }
  void SetCellCheck(CellCheck check) { cellCheck_ = std::move(check); }
  // Once set, every typed value and every row change goes through these; the
  // grid reads the table again afterwards.
  void SetCellStore(CellStore store) { cellStore_ = std::move(store); }
  void SetRowMove(RowMove move) { rowMove_ = std::move(move); }
  // Default: a message box with the error icon, captioned "Ludaro".
  void SetErrorReport(ErrorReport report) { errorReport_ = std::move(report); }
  void SetDeleteQuestion(std::u16string question) { deleteQuestion_ = std::move(question); }
  // The grid got the keyboard focus from outside / lost it to outside.
  void SetOnEnter(Event event) { onEnter_ = std::move(event); }
  void SetOnExit(Event event) { onExit_ = std::move(event); }
  // The rows, the current row or the table's state changed.
  void AddChangeListener(Event listener) { changeListeners_.push_back(std::move(listener)); }

  std::size_t RowCount() const;
  std::optional<std::size_t> CurrentRow() const;
  std::optional<std::size_t> CurrentColumn() const { return currentColumn_; }
  // Moves the grid and its table to `row`; false when that failed (reported).
  bool MoveToRow(std::size_t row);
  // Starts a new row in the table and shows it.
  void InsertRow();
  // Deletes the current row, after the confirmation question when `ask`.
  void DeleteCurrentRow(bool ask);
  // Opens the cell editor on the current cell (when it is editable).
  void BeginEdit(std::optional<std::u16string> initialText = std::nullopt);
  // Stores an open cell edit; false when it was refused and stays open.
  bool CommitEdit();
  void CancelEdit();
  bool CellEditorOpen() const;

  std::vector<ColumnFit> MeasureColumns() const;

  // Runs an action on the table and reports its error the grid's way, then
  // shows the table again. For the navigator.
  void RunOnTable(const std::function<void(dbf::Table&)>& action);

 private:
  static LRESULT CALLBACK FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK ListProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR self);
  static LRESULT CALLBACK HeaderProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR self);
  static LRESULT CALLBACK EditorProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR self);

  LRESULT OnFrameMessage(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT OnListMessage(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT OnEditorMessage(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT OnHeaderCustomDraw(NMCUSTOMDRAW& draw);

  void CreateColumns();
  void LayoutColumns();
  // The cells' font changed (the screen's scale did): titles, rows and
  // columns follow it.
  void SetFont(HFONT font);
  void DrawRow(const DRAWITEMSTRUCT& item);
  RECT CellRect(std::size_t row, std::size_t column) const;
  void ReloadRows();
  void ShowRows();
  void SelectCurrentRow();
  void NotifyChange();
  void Report(const std::exception& error);
  bool Ask(const std::u16string& question);
  void OnClick(POINT point);
  void OnCurrentItemChanged(int item);
  void MoveColumn(int direction);
  void CloseEditor();
  void AfterEditorLostFocus();
  void ScrollColumnIntoView(std::size_t column);
  void InvalidateRow(std::optional<std::size_t> row);
  int EditLimitOf(std::size_t column) const;

  GridModel model_;
  HWND frame_ = nullptr;
  HWND list_ = nullptr;
  HWND header_ = nullptr;
  HWND editor_ = nullptr;
  HFONT font_ = nullptr;
  HFONT titleFont_ = nullptr;
  bool ownsTitleFont_ = false;
  int rowHeight_ = 18;

  dbf::Table* table_ = nullptr;
  std::unique_ptr<GridRows> rows_;
  std::optional<std::size_t> currentColumn_;
  std::optional<std::size_t> editRow_;
  std::size_t editColumn_ = 0;
  bool syncing_ = false;
  bool committing_ = false;

  CellColourHook colourHook_;
  CellCheck cellCheck_;
  CellStore cellStore_;
  RowMove rowMove_;
  ErrorReport errorReport_;
  std::u16string deleteQuestion_ = u"\u00BFDesea borrar el registro actual?";
  Event onEnter_;
  Event onExit_;
  std::vector<Event> changeListeners_;
};

// A colour as GDI takes it.
COLORREF ToColorRef(const Colour& colour);

}  // namespace ludaro::controls
