// The player's whole frame: health, mouse look, movement and collision, the camera target and the gun;
// the death sequence instead while dead.
#pragma once

// Once per game frame, after every stage object has been updated.
void UpdatePlayer();

// The death sequence: the view sinks to the floor and keels over until the stage is loaded again.
void UpdateDeadPlayer();
