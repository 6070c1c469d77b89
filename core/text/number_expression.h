// Arithmetic typed into a number cell, as designers type it in spreadsheets:
// "3.2*4.5", "(3.6+2.4)*2*2.8-0.9*2.1", "12.5+3". Evaluated exactly in
// decimal (0.1*3 is 0.3, never 0.30000000000000004), so a quantity worked out
// in the cell is the quantity the customer pays for.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace lty {

// Full-width digits, point and operators (１２．５, ＊, （, ＋) become their
// ASCII forms, "×" and "÷" become '*' and '/', every blank or control
// character (the ideographic space too) becomes ' ', and blanks at both ends
// are dropped. Other characters stay as they are.
std::string NormalizeNumberInput(std::string_view text);

// True when the text holds an operator or a bracket: it is meant as arithmetic
// rather than as a plain number.
bool LooksLikeExpression(std::string_view normalized);

// The value of an expression of decimal numbers, + - * / and brackets (unary
// minus and plus allowed), in general format: at most 15 significant digits,
// an exact half rounded away from zero, no trailing zeros, no point for whole
// numbers. Blanks may stand between numbers and operators, not inside a
// number. Nothing for anything else: a letter, an unbalanced bracket, a
// division by zero, or a value too large to hold exactly.
std::optional<std::string> EvaluateNumberExpression(std::string_view text);

} // namespace lty
