#include "rules/rename_rules.h"
