#pragma once
// Everything of the data-access components in one include.
#include "vcl/data/ado_query.h"
#include "vcl/data/component.h"
#include "vcl/data/data_link.h"
#include "vcl/data/data_source.h"
#include "vcl/data/dataset.h"
#include "vcl/data/exceptions.h"
#include "vcl/data/field.h"
#include "vcl/data/field_type.h"
#include "vcl/data/parameters.h"
#include "vcl/data/strings.h"
