#pragma once
// The system's ANSI code page as the source-form rules take it.
#include "SourceForm.h"

const ICodePage& AnsiCodePage();
