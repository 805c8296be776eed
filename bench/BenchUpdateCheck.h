// What ConsoleBench.exe and the update program standing in for Update.exe agree
// on: the event the benchmark sets when a started check may answer.
#pragma once

constexpr const char* kBenchCheckEvent = "Local\\HookwardenBench.AnswerUpdateCheck";
constexpr unsigned long kBenchCheckWaitMs = 120000;
