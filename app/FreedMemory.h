// Gives memory the program has freed back to the system.
#pragma once

// The C library keeps what a large model freed for later use, so the window's resident
// memory would stay at its peak after the model is gone; this returns the free pages of every
// heap to the system. Cheap enough to call after each command.
void giveBackFreedMemory();
