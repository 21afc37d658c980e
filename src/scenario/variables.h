// Story variables and the expressions of [eval] and [if].
#pragma once

#include <cstdint>

constexpr int E_VAR_COUNT = 50;
constexpr int S_VAR_COUNT = 10;
// e.1, which every start-up load sets to 1 before any script runs.
constexpr int STARTUP_FLAG = 1;

extern std::int32_t g_eVars[E_VAR_COUNT];
extern std::int32_t g_sVars[S_VAR_COUNT];

// The value of one operand: a variable (e.N, s.N) or a decimal literal. A variable
// outside the arrays reads as 0.
std::int32_t OperandValue(const char* token);
// Points at the variable a reference such as "e.3" names, or null.
std::int32_t* VariableSlot(const char* token);

// The operators of [eval] and [if]: arithmetic ones between any two operands, and the
// comparison that an [if] holds exactly once.
bool IsArithmeticOperator(const char* op);
bool IsComparisonOperator(const char* op);

void EvalTag(int length);
void IfTag(int length);
