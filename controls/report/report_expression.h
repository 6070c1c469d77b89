// The small arithmetic a report box may compute from the fields of its row:
// numbers, field names (a "dataset." prefix is ignored), + - * / and brackets.
#pragma once

#include <QString>
#include <QVariant>

#include <functional>
#include <memory>
#include <vector>

namespace lty::report {

struct ReportTable;

class Expression {
public:
    // Compiled once against the table's fields. Returns nothing and sets
    // `error` for a text that is not such an expression or names a field the
    // table lacks.
    static std::unique_ptr<Expression> Compile(const QString& text, const ReportTable& table, QString* error);

    // A field that holds no number counts as 0; a division by zero gives 0.
    double Evaluate(const std::vector<QVariant>& row) const;

    struct Node;
    ~Expression();

private:
    Expression() = default;
    std::unique_ptr<Node> root_;
};

} // namespace lty::report
