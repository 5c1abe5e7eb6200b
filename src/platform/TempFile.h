#pragma once
// Temporary files the tool writes beside a file it is about to replace, so the target
// is only ever swapped in whole. Their names are recognisably ours, so leftovers of an
// interrupted run can be removed without touching anything a user put there.
#include <string>

// A path in the folder of target that no file has yet, named "~tq2zul-<unique>.tmp".
std::wstring TempPathBeside(const std::wstring& target);

// Whether a bare file name is one that TempPathBeside makes.
bool IsToolTempName(const std::wstring& fileName);

// Deletes every leftover tool temporary file directly in folder; returns how many.
int RemoveToolTempFiles(const std::wstring& folder);
