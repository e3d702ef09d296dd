/* The contract between libOrvane and its resource library libOrvaneUI. */
#ifndef ORVANE_RESOURCE_LIBRARY_H
#define ORVANE_RESOURCE_LIBRARY_H

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Name of the one function the resource library exports. */
#define ORVANE_UI_GET_TEMPLATE_SYMBOL "OrvaneUI_GetTemplate"

/* Returns the Qt Designer text of dialog template `id` (NUL-terminated) and
   its length in *size, or NULL for an unknown template. The text lives as
   long as the library stays loaded. */
__attribute__((visibility("default"))) const char *OrvaneUI_GetTemplate(unsigned id, size_t *size);

typedef const char *(*OrvaneUI_GetTemplateFn)(unsigned id, size_t *size);

#ifdef __cplusplus
}
#endif

#endif
