// The player's walking, jumping and falling, and the health that grows back and ends in death.
#pragma once

// Fixed sizes of the player, in world units.
constexpr float kEyeHeight = 12.0f;       // above a floor while alive
constexpr float kDeadEyeHeight = 2.0f;    // above a floor while dead
constexpr float kForwardReach = 6.0f;     // kept from a wall along the motion
constexpr float kSideReach = 4.0f;        // kept from a wall along the world axes
constexpr float kHeadClearance = 5.0f;    // kept under a ceiling
constexpr float kFloorProbe = 1.5f;       // floor rays start this far from the eye's vertical line
constexpr float kCollisionRange = 50.0f;  // objects whose origin is this far or farther are not met

// Health first in every live frame: clamped to 255, a death begun at or below 0, else half a point back.
void StepHealth();

// Keys to velocity, the head bob and footsteps, gravity and friction, the jump, the fall out of the
// stage; ends with the collision.
void MovePlayer();
