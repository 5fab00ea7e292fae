"""What the editor's commands do to the model, worked out in Python from the editor's rules in
single precision, so that the end-to-end tests know what model.dat must hold afterwards; and
where a grid point lands in a turned view, so that a test can hover it."""

import math

import gridmodel
from gridmodel import PICK_HALF_WIDTH, SIZE, f32

SINGLE_POINT_STEP = f32(0.01)
# The brush amount falls linearly from the centre: 0.005 - 0.0015 * (2d / r).
BRUSH_CENTRE = 0.005
BRUSH_SLOPE = 0.0015
# Degrees per drag message and per arrow key.
DRAG_YAW_STEP = 4
DRAG_PITCH_STEP = 2
KEY_TURN = 10
# Picking draws each point this much nearer to the viewer than the surface.
PICK_LIFT = 0.01


def brush_amount(distance, radius):
    """Height change at city-block distance d for radius r: m = 2d / r in single precision,
    then 0.005 - 0.0015 m in double precision, rounded to single."""
    m = f32(2 * distance / radius)
    return f32(BRUSH_CENTRE - BRUSH_SLOPE * m)


def radius_of_key(key):
    """Brush radius that a digit key from 3 to 9 gives: one less than the digit."""
    return int(key) - 1


class EditedGrid:
    """The model as the program holds it: heights as single-precision floats, every other field
    as the model file gives it."""

    def __init__(self, model=None):
        model = model or gridmodel.fresh_model()
        self.points = [list(point) for point in model.points]
        self.z = [gridmodel.from_file(point[6]) for point in model.points]
        self.triangles = list(model.triangles)

    # The grid's height operations.

    def lower(self, index, amount):
        self.z[index] = f32(self.z[index] - amount)

    def raise_(self, index, amount):
        self.z[index] = min(f32(self.z[index] + amount), 0.0)

    def level(self, index):
        self.z[index] = 0.0

    # The editor's commands.

    def wheel(self, picked, radius, forward):
        """One wheel notch over the picked point (-1: none)."""
        if picked < 0:
            return
        if radius < 1:
            if forward:
                self.lower(picked, SINGLE_POINT_STEP)
            else:
                self.raise_(picked, SINGLE_POINT_STEP)
            return
        column, row = gridmodel.point_cell(picked)
        h = self.z[picked]
        for j in range(-radius, radius):
            for i in range(-radius, radius):
                if not (0 <= column + i < SIZE and 0 <= row + j < SIZE):
                    continue
                q = gridmodel.point_index(column + i, row + j)
                amount = brush_amount(abs(i) + abs(j), radius)
                if forward:
                    if not h > self.z[q]:
                        self.lower(q, amount)
                elif not h < self.z[q]:
                    if h >= 0:
                        self.level(q)
                    else:
                        self.raise_(q, amount)

    def flip(self, picked):
        """A right click on the picked point: toggles the diagonal of the cell whose south-west
        corner it is; a point of the last column or row is no cell's corner."""
        if picked < 0:
            return
        column, row = gridmodel.point_cell(picked)
        if column == SIZE - 1 or row == SIZE - 1:
            return
        orientation = self.points[picked][1]
        if orientation not in (0, 1):
            return
        orientation = 1 - orientation
        self.points[picked][1] = orientation
        first = 2 * (row * (SIZE - 1) + column)
        self.triangles[first : first + 2] = gridmodel.cell_triangles(column, row, orientation)

    # What the program shows and saves.

    def drawn_count(self):
        """Triangles with a corner off height 0: the count in the status bar."""
        return sum(1 for triangle in self.triangles if any(self.z[v] != 0 for v in triangle))

    def model(self):
        """The model file the program writes for this grid."""
        points = [
            point[:6] + [gridmodel.to_file(z)] + point[7:] for point, z in zip(self.points, self.z)
        ]
        return gridmodel.Model(points, list(self.triangles))

    def reloaded(self):
        """The grid as loading its saved file gives it back."""
        return EditedGrid(self.model())


def first_difference(saved, expected):
    """The first line in which two models differ, as text for a failure message; None when they
    are the same."""
    for index, (got, want) in enumerate(zip(saved.points, expected.points)):
        if got != want:
            column, row = gridmodel.point_cell(index)
            return f"point {index} (column {column}, row {row}): saved {got}, expected {want}"
    for index, (got, want) in enumerate(zip(saved.triangles, expected.triangles)):
        if tuple(got) != tuple(want):
            return f"triangle {index}: saved {got}, expected {want}"
    return None


# Where points land in a turned view. The view rotates the model about x by pitch, then about y
# by yaw, and projects it in parallel onto the cube from -1 to 1, which fills the viewport.


def turned_position(index, z, yaw, pitch, width, height):
    """Client position (floats) of a point in the view turned by yaw and pitch (degrees), or
    None when it falls outside the view cube and can be neither seen nor picked."""
    x, y = gridmodel.point_xy(index)
    a, p = math.radians(yaw), math.radians(pitch)
    y1 = y * math.cos(p) - z * math.sin(p)
    z1 = y * math.sin(p) + z * math.cos(p)
    x2 = x * math.cos(a) + z1 * math.sin(a)
    z2 = -x * math.sin(a) + z1 * math.cos(a)
    if max(abs(x2), abs(y1), abs(z2)) > 1:
        return None
    return gridmodel.model_to_client(x2, y1, width, height)


def turned_hover_position(index, grid, yaw, pitch, width, height, margin=1.0):
    """An integer client position at which the turned view picks the given point (the lowest
    index inside the pick square wins), with the point and every point of lower index at least
    margin pixels clear of the square's edges."""
    positions = [
        turned_position(other, f32(grid.z[other] - PICK_LIFT), yaw, pitch, width, height)
        for other in range(gridmodel.POINT_COUNT)
    ]
    target = positions[index]
    if target is None:
        raise ValueError(f"point {index} is outside the view at yaw {yaw}, pitch {pitch}")
    reach = 2 * PICK_HALF_WIDTH + margin + 2
    near = [
        (other, position)
        for other, position in enumerate(positions)
        if position is not None
        and abs(position[0] - target[0]) <= reach
        and abs(position[1] - target[1]) <= reach
    ]
    best = None
    for cx in range(math.floor(target[0]) - 11, math.ceil(target[0]) + 12):
        for cy in range(math.floor(target[1]) - 11, math.ceil(target[1]) + 12):
            if not (0 <= cx < width and 0 <= cy < height):
                continue
            # How far inside the square each point lies (negative: outside). Only the point and
            # those of lower index decide the pick; higher ones may lie anywhere.
            insides = [
                PICK_HALF_WIDTH - max(abs(px - cx), abs(py - cy))
                for other, (px, py) in near
                if other <= index
            ]
            clearance = min([insides[-1]] + [-inside for inside in insides[:-1]])
            if clearance >= margin and (best is None or clearance > best[0]):
                best = (clearance, cx, cy)
    if best is None:
        raise ValueError(f"no cursor position picks point {index} at yaw {yaw}, pitch {pitch}")
    return best[1], best[2]
