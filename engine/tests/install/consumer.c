/* A program outside the project that uses the installed engine: it prints the
 * text of one status code, and fails when the text is missing. */
#include <dizode/dizode.h>
#include <stdio.h>

int main(void) {
  const char* text = TkStatusText(TK_E_BAD_HANDLE);
  if (text == NULL || text[0] == '\0') return 1;
  puts(text);
  return 0;
}
