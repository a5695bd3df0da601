#pragma once

#include <array>
#include <cstddef>

namespace tw {

// What the copy of the selected tables does, step by step. A failing step is reported with a
// line number, which the error box shows the user: each handler numbers the steps its own way
// (see StepLines), and the engine names them.
enum class CopyStep {
    SelectionCurrent,  // is any item of the source list current?
    ItemEvents,        // events let through for each item of the list
    ItemSelected,
    ItemName,    // the selected item's text
    SourceName,  // the source table's name
    TargetListed,
    ListedName,  // the name as the target list writes it
    AskReplace,
    NotAsked,
    Declined,
    Agreed,
    Drop,  // the old table's DROP, and every step of putting the new table in its place
    TakeNewName,
    Unlist,    // the old table leaves the target list
    OpenRows,  // the source table's rows
    ColumnEvents,
    ColumnName,
    ColumnType,
    AddColumn,
    Create,  // the CREATE TABLE; the numbers of the steps from here on are each handler's own
    CountRows,
    RowEvents,
    Progress,
    BatchEvents,
    BatchProgress,
    Insert,
    NextRow,
    BusyOff,
    ProgressAtRest,
    CloseRows,
    ListNew,  // the new table joins the target list
    Count
};

// Each step's line number in one handler.
class StepLines {
public:
    // The numbers of the send buttons, the steps from the CREATE TABLE on moved down by tailShift.
    static constexpr StepLines ofSendButtons(int tailShift) {
        StepLines lines;
        for (std::size_t step = 0; step < kShared.size(); ++step)
            lines.m_lines[step] = kShared[step] + (step >= std::size_t(CopyStep::Create) ? tailShift : 0);
        return lines;
    }
    constexpr int operator[](CopyStep step) const { return m_lines[std::size_t(step)]; }

private:
    static constexpr std::array<int, std::size_t(CopyStep::Count)> kShared{
        106, 120, 122, 124, 126, 128, 130, 138, 140, 142, 144, 146, 148, 150, 152, 158,
        160, 162, 164, 218, 226, 230, 232, 238, 240, 260, 262, 264, 266, 268, 270};
    std::array<int, std::size_t(CopyStep::Count)> m_lines{};
};

}  // namespace tw
