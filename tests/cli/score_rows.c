/* Scores every observation line of a data table on standard input with the C export of a
   model (lad_score from the file compiled with it), one hexadecimal float per line. Values
   are read as lad reads them: a short line's missing values are 0. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "model.h"

int main(void)
{
    static char line[1 << 20];
    double values[LAD_ATTRIBUTE_COUNT + 1024];
    int header = 1;
    while (fgets(line, sizeof line, stdin) != NULL) {
        size_t fields = 1;
        size_t k = 0;
        char *p = line;
        if (header) {
            header = 0;
            continue;
        }
        line[strcspn(line, "\r\n")] = '\0';
        if (line[0] == '\0') continue;
        for (char *c = line; *c != '\0'; ++c) fields += *c == ',';
        memset(values, 0, sizeof values);
        /* The fields between the name and the class. */
        p = strchr(line, ',');
        for (k = 0; p != NULL && k + 2 < fields && k < sizeof values / sizeof values[0]; ++k) {
            values[k] = strtod(p + 1, NULL);
            p = strchr(p + 1, ',');
        }
        printf("%a\n", lad_score(values));
    }
    return 0;
}
