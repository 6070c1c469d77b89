#include "controls/report/report_expression.h"

#include "controls/report/report.h"

namespace lty::report {

struct Expression::Node {
    char Op = 0; // 0 number, 'f' field, 'n' negation, or + - * /
    double Number = 0;
    int Field = -1;
    std::unique_ptr<Node> Left, Right;
};

namespace {

class Parser {
public:
    Parser(const QString& text, const ReportTable& table) : s_(text), table_(table) {}

    std::unique_ptr<Expression::Node> Parse(QString* error) {
        auto n = Sum();
        Skip();
        if (n && pos_ != s_.size()) Fail(QStringLiteral("unexpected '%1'").arg(s_.mid(pos_, 1)));
        if (!error_.isEmpty()) {
            if (error) *error = error_;
            return nullptr;
        }
        return n;
    }

private:
    void Skip() {
        while (pos_ < s_.size() && s_[pos_].isSpace()) ++pos_;
    }
    bool Take(QChar c) {
        Skip();
        if (pos_ < s_.size() && s_[pos_] == c) {
            ++pos_;
            return true;
        }
        return false;
    }
    void Fail(const QString& why) {
        if (error_.isEmpty()) error_ = why;
    }
    static std::unique_ptr<Expression::Node> Binary(char op, std::unique_ptr<Expression::Node> l,
                                                    std::unique_ptr<Expression::Node> r) {
        auto n = std::make_unique<Expression::Node>();
        n->Op = op;
        n->Left = std::move(l);
        n->Right = std::move(r);
        return n;
    }
    // One level of left-associative operators over the next level down.
    template <typename Operand>
    std::unique_ptr<Expression::Node> Chain(char op1, char op2, Operand operand) {
        auto n = (this->*operand)();
        while (n) {
            char op = 0;
            if (Take(op1))
                op = op1;
            else if (Take(op2))
                op = op2;
            else
                break;
            n = Binary(op, std::move(n), (this->*operand)());
            if (!n->Right) return nullptr;
        }
        return n;
    }
    std::unique_ptr<Expression::Node> Sum() { return Chain('+', '-', &Parser::Product); }
    std::unique_ptr<Expression::Node> Product() { return Chain('*', '/', &Parser::Factor); }
    std::unique_ptr<Expression::Node> Factor() {
        Skip();
        if (Take('-')) {
            auto inner = Factor();
            if (!inner) return nullptr;
            auto n = std::make_unique<Expression::Node>();
            n->Op = 'n';
            n->Left = std::move(inner);
            return n;
        }
        if (Take('(')) {
            auto n = Sum();
            if (n && !Take(')')) {
                Fail(QStringLiteral("missing ')'"));
                return nullptr;
            }
            return n;
        }
        const qsizetype start = pos_;
        if (pos_ < s_.size() && (s_[pos_].isDigit() || s_[pos_] == '.')) {
            while (pos_ < s_.size() && (s_[pos_].isDigit() || s_[pos_] == '.')) ++pos_;
            bool ok = false;
            auto n = std::make_unique<Expression::Node>();
            n->Number = s_.mid(start, pos_ - start).toDouble(&ok);
            if (!ok) {
                Fail(QStringLiteral("bad number"));
                return nullptr;
            }
            return n;
        }
        while (pos_ < s_.size() && (s_[pos_].isLetterOrNumber() || s_[pos_] == '_' || s_[pos_] == '.')) ++pos_;
        if (pos_ == start) {
            Fail(QStringLiteral("expected a number or a field"));
            return nullptr;
        }
        QString name = s_.mid(start, pos_ - start);
        name = name.mid(name.lastIndexOf('.') + 1); // "adoPrint.DataPrice" names DataPrice
        auto n = std::make_unique<Expression::Node>();
        n->Op = 'f';
        n->Field = table_.FieldIndex(name);
        if (n->Field < 0) {
            Fail(QStringLiteral("no field '%1'").arg(name));
            return nullptr;
        }
        return n;
    }

    const QString& s_;
    const ReportTable& table_;
    qsizetype pos_ = 0;
    QString error_;
};

double Eval(const Expression::Node& n, const std::vector<QVariant>& row) {
    switch (n.Op) {
    case 0:
        return n.Number;
    case 'f': {
        if (n.Field >= static_cast<int>(row.size())) return 0;
        bool ok = false;
        const double v = row[static_cast<std::size_t>(n.Field)].toDouble(&ok);
        return ok ? v : 0;
    }
    case 'n':
        return -Eval(*n.Left, row);
    case '+':
        return Eval(*n.Left, row) + Eval(*n.Right, row);
    case '-':
        return Eval(*n.Left, row) - Eval(*n.Right, row);
    case '*':
        return Eval(*n.Left, row) * Eval(*n.Right, row);
    default: {
        const double d = Eval(*n.Right, row);
        return d == 0 ? 0 : Eval(*n.Left, row) / d;
    }
    }
}

} // namespace

Expression::~Expression() = default;

std::unique_ptr<Expression> Expression::Compile(const QString& text, const ReportTable& table, QString* error) {
    auto root = Parser(text, table).Parse(error);
    if (!root) return nullptr;
    std::unique_ptr<Expression> e(new Expression);
    e->root_ = std::move(root);
    return e;
}

double Expression::Evaluate(const std::vector<QVariant>& row) const { return Eval(*root_, row); }

} // namespace lty::report
