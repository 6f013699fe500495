#pragma once

class Model;

// Anything in the world that draws one model. The model is shared, not owned: destroying the
// object leaves the model usable.
class GameObject {
  public:
    Model* model;

    explicit GameObject(Model* model);
    virtual ~GameObject();
};
