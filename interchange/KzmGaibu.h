// Unit KzmGaibu: the interchange library. Reads the host's interchange file
// into process-wide state, and writes entities and commands back.
#pragma once

#include "interchange/attribute_emitters.h"
#include "interchange/entity_emitters.h"
#include "interchange/file_writer.h"
#include "interchange/number_text.h"
#include "interchange/output_lines.h"
#include "interchange/reader.h"
#include "interchange/reemission.h"
#include "interchange/state.h"
#include "interchange/system_strings.h"
#include "interchange/write_back.h"
