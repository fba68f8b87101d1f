# Stage 1, "The Clay": the gun bends clay. A low block of clay lies at the foot of a terrace too high to
# jump onto; a shot at its foot from where the player starts swells it into a hill, and from the hill's
# top a jump reaches the terrace. Up there a lever opens the door to the goal.
# The player starts at (0, 12, 0) looking north (+z), at the clay 58 ahead.
#
# Structure is uncut ("cell whole") and reaches far beyond what can be seen, so that its only corners
# are far out of any bulge's reach: a shot bends nothing but clay. Where structure must have corners
# near the player (the door's passage), they are kept to the door's own frame.
mesh stage1.x
material stone data/texture/stone.png 16  0.85 0.85 0.85
material brick data/texture/brick.png 16  1 1 1
material turf  data/texture/turf.png  16  1 1 1
material clay  data/texture/clay.png  16  1 1 1
material plate data/texture/plate.png 16  0.9 0.9 0.95

cell whole
box stone  -400 -400 -400   400 0 400          # the hall's floor
box brick  -400 -400 -400  -56 400 400         # west wall
box brick    56 -400 -400  400 400 400         # east wall
box brick  -400 -400 -400   400 400 -24        # south wall
box brick  -400 -400   76   400 32 400         # the terrace, 33 high with its turf: no jump reaches it
box turf   -400   32   76   400 33 400
# The goal room on the terrace, reached by a passage 24 wide and 28 high: the door stands 48 into it,
# out of reach of any shot from the terrace, and the passage goes on 62 beyond it, deeper than the 45
# a shot inside the passage can dent the door. The room is closed all round.
box brick  -400   33  130  -12 400 240
box brick    12   33  130  400 400 240
box brick   -12   61  130   12 400 240
box brick  -400   33  240  -40 400 400
box brick    40   33  240  400 400 400
box brick  -400   33  300  400 400 400

# The clay, finely cut: a shot at its foot lifts it into a hill.
cell 2
box clay   -24 0 58   24 6 76    skip=-y,+z
