#include <unistd.h>

#include "tarnvelk.h"

int main()
{
	return run_dialogue(STDIN_FILENO, STDOUT_FILENO);
}
