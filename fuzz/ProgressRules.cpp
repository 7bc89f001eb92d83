#include "fuzz/ProgressRules.h"

namespace {

struct Pass {
    int32_t firstRow, rowStep, firstColumn, columnStep;
};
const Pass kPasses[7] = {{0, 8, 0, 8}, {0, 8, 4, 8}, {4, 8, 0, 4}, {0, 4, 2, 4},
                         {2, 4, 0, 2}, {0, 2, 1, 2}, {1, 2, 0, 1}};

std::vector<ProgressReport> RowByRow(int32_t rows) {
    std::vector<ProgressReport> reports;
    for (int32_t r = 0; r < rows; ++r) reports.push_back({r, rows});
    return reports;
}

}  // namespace

std::vector<ProgressReport> OpenProgress(int32_t rows, int32_t columns, bool interlaced) {
    if (!interlaced) return RowByRow(rows);
    // The first six passes counted in even rows: first row and step halved.
    int32_t total = rows;
    for (int p = 0; p < 6; ++p) total += (kPasses[p].firstRow / 2 + rows / 2) / (kPasses[p].rowStep / 2);
    std::vector<ProgressReport> reports;
    int32_t count = 0;
    for (int p = 0; p < 6; ++p) {
        const Pass &pass = kPasses[p];
        if (pass.firstColumn >= columns) continue;
        for (int32_t r = pass.firstRow; r < rows; r += pass.rowStep) reports.push_back({count++, total});
    }
    for (int32_t r = 0; r < rows; ++r) reports.push_back({++count, total});
    return reports;
}

std::vector<ProgressReport> SaveProgress(int32_t rows, int32_t columns, bool interlaced) {
    if (!interlaced) return RowByRow(rows);
    int32_t total = 0;
    for (const Pass &pass : kPasses) total += (rows + pass.firstRow) / pass.rowStep;
    std::vector<ProgressReport> reports;
    int32_t count = 0;
    for (const Pass &pass : kPasses) {
        if (pass.firstColumn >= columns) continue;
        for (int32_t r = pass.firstRow; r < rows; r += pass.rowStep) reports.push_back({++count, total});
    }
    return reports;
}

FuzzProblem CheckProgress(const std::vector<ProgressReport> &reports, const std::vector<ProgressReport> &expected) {
    for (size_t i = 0; i < reports.size() && i < expected.size(); ++i)
        if (reports[i].done != expected[i].done || reports[i].total != expected[i].total)
            return "progress report " + std::to_string(i) + " is (" + std::to_string(reports[i].done) + ", " +
                   std::to_string(reports[i].total) + "), expected (" + std::to_string(expected[i].done) + ", " +
                   std::to_string(expected[i].total) + "); ";
    if (reports.size() != expected.size())
        return std::to_string(reports.size()) + " progress reports, " + std::to_string(expected.size()) +
               " expected; ";
    return {};
}

FuzzProblem CheckOpenAbortTests(int32_t abortTests, int32_t rows, int32_t columns, bool interlaced) {
    const auto passRows = static_cast<int32_t>(OpenProgress(rows, columns, interlaced).size()) - rows;
    if (abortTests == passRows) return {};
    return std::to_string(abortTests) + " abort tests, one per row of the first six passes (" +
           std::to_string(passRows) + ") expected; ";
}
