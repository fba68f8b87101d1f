# Stage 1, "The Step": walk, jump a wall, then bend the clay block at the foot of the terrace into a
# hill with the gun, climb it and jump up; a lever on the terrace opens the door to the goal.
# The player starts at (0, 12, 0) looking north (+z).
mesh stage1.x
material stone data/texture/stone.png 16  0.85 0.85 0.85
material brick data/texture/brick.png 16  1 1 1
material turf  data/texture/turf.png  16  1 1 1
material clay  data/texture/clay.png  16  1 1 1
material plate data/texture/plate.png 16  0.9 0.9 0.95

# Structure nobody is meant to bend: a coarser grid.
cell 8
box stone  -40 -4 -24   40 0 70    skip=-y        # the hall floor
box brick  -40 0 24     40 18 30   skip=-y        # the wall to jump (18: too high to walk up)
box plate  -40 18 24    40 19 30   skip=-y        # its coping, bright so that the top reads
box brick  -40 -4 70    40 32 150  skip=-y,+y     # the terrace, 33 high with its turf: no jump reaches its top
box turf   -40 32 70    40 33 110  skip=-y        # turf on the terrace
box stone  -40 32 110   40 33 150  skip=-y        # the floor of the goal room
cell 8
box brick  -44 -4 -28  -40 72 150  skip=-y,-x     # west wall
box brick   40 -4 -28   44 72 150  skip=-y,+x     # east wall
box brick  -44 -4 -28   44 72 -24  skip=-y,-z     # south wall
box brick  -44 -4 150   44 108 154 skip=-y,+z     # north wall
# The door wall: a tower round a 24 x 28 opening; the door's panels slide into it.
box brick  -40 33 110  -12 108 114 skip=-y
box brick   12 33 110   40 108 114 skip=-y
box brick  -12 60 110   12 108 114 skip=-y

# The clay block at the foot of the terrace, finely cut: a shot at the floor beside it lifts it.
cell 2
box clay     4 0 52     24 6 70    skip=-y,+z
