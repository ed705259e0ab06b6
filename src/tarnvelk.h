#ifndef TARNVELK_TARNVELK_H
#define TARNVELK_TARNVELK_H

// Runs the whole dialogue on the given descriptors and gives the exit
// status: 1 when the user is done or the input ends, 2 when output could
// not be written (after one line on standard error).
int run_dialogue(int in_fd, int out_fd);

#endif
